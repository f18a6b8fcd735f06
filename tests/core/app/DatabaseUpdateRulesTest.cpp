// The desktop's rules around a database update: one at a time, none during a
// scan, no scan during one.
#include <gtest/gtest.h>

#include "support/FakeDesktopServices.h"

namespace quellstone::app {
namespace {

using namespace quellstone::testing;

// Every request runs for one turn of the wait, then answers 404.
class NotFoundHttp final : public ports::HttpClient {
public:
    int requests = 0;
    std::unique_ptr<ports::HttpRequest> NewRequest() override {
        ++requests;
        return std::make_unique<Request>();
    }

private:
    class Request final : public ports::HttpRequest {
    public:
        bool Start(const std::string&) override { return true; }
        bool StillRunning() override { return turns_++ == 0; }
        std::string Headers() override { return "HTTP/1.1 404 Not Found\r\n\r\n"; }
        std::string NextChunk(std::size_t) override { return {}; }
        void Cancel() override {}

    private:
        int turns_ = 0;
    };
};

class NoSignatures final : public ports::SignatureVerifier {
public:
    std::array<unsigned char, 64> Blake2b512(std::string_view) override { return {}; }
    bool VerifyEd25519(std::span<const unsigned char, 64>, std::string_view,
                       std::span<const unsigned char, 32>) override {
        return false;
    }
};

i18n::VendorAddresses WithKey() {
    i18n::VendorAddresses vendor = i18n::VendorAddresses::Defaults();
    vendor.updatePublicKey = "RWQ-a-key";
    return vendor;
}

class DatabaseUpdateRulesTest : public ::testing::Test, public FakeDesktopServices {
protected:
    DatabaseUpdateRulesTest()
        : FakeDesktopServices(WithKey()), controller(ControllerServices(http, &http, &verifier), Views()) {}
    DesktopController::Views Views() {
        DesktopController::Views views;
        views.scanWindowOpened = [this] { ++scanWindows; };
        return views;
    }

    NotFoundHttp http;
    NoSignatures verifier;
    int scanWindows = 0;
    DesktopController controller;
};

TEST_F(DatabaseUpdateRulesTest, NeitherAScanNorASecondUpdateStartsDuringAnUpdate) {
    controller.OpenMainWindow();
    pump.action = [&] {
        EXPECT_TRUE(controller.DatabaseUpdating());
        EXPECT_EQ(controller.MainModel()->Caption(windows::MainControl::DatabaseUpdateStatus), "T341");
        controller.StartScan();       // the start button, inside the download's wait
        controller.UpdateDatabase();  // the link again
    };
    controller.UpdateDatabase();
    EXPECT_EQ(scanWindows, 0);
    EXPECT_EQ(http.requests, 1);  // the database's request, refused: no signature asked for
    EXPECT_FALSE(controller.DatabaseUpdating());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.starts_with("T344")) << dialogs.shown[0].text;

    // Once it has ended, a scan starts.
    pump.action = nullptr;
    controller.StartScan();
    controller.FinishScan();
    EXPECT_EQ(scanWindows, 1);
}

TEST_F(DatabaseUpdateRulesTest, AnUpdateDuringAScanIsRefusedWithAMessage) {
    controller.OpenMainWindow().ModeClicked(scan::ScanMode::WholeComputer);
    controller.StartScan();
    controller.UpdateDatabase();  // the link, while the scan runs
    controller.FinishScan();
    EXPECT_EQ(http.requests, 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T347");
}

}  // namespace
}  // namespace quellstone::app
