#include "core/i18n/VendorAddresses.h"

#include "core/ini/Ini.h"

namespace quellstone::i18n {

namespace {

LocalisedAddress PerLanguage(const std::string& site, const std::string& page) {
    return {site + "en/" + page, site + "pl/" + page, site + "de/" + page};
}

}  // namespace

VendorAddresses VendorAddresses::Defaults() {
    const std::string site = "http://www.orvanta.example/";
    return {
        "http://update.orvanta.example/",
        "",
        PerLanguage(site, ""),
        PerLanguage(site, "statistics/"),
        PerLanguage(site, "download/"),
        PerLanguage(site, "support/"),
        PerLanguage(site, "contact/"),
        "http://forum.orvanta.example/",
        site + "pl/",
    };
}

VendorAddresses VendorAddresses::Load(ports::FileStore& files, const std::string& vendorFile) {
    VendorAddresses addresses = Defaults();
    ini::Ini ini(files);
    ini.SetPath(vendorFile);
    const auto read = [&](const char* section, const std::string& key, std::string& target) {
        ini.SetSection(section);
        ini.SetKey(key);
        ini.SetDefault(target);
        target = ini.Value();
    };
    read("Update", "Server", addresses.updateServer);
    read("Update", "PublicKey", addresses.updatePublicKey);
    const std::pair<const char*, LocalisedAddress*> roles[] = {{"Home", &addresses.home},
                                                               {"Statistics", &addresses.statistics},
                                                               {"Update", &addresses.update},
                                                               {"Support", &addresses.support},
                                                               {"Contact", &addresses.contact}};
    for (const auto& [role, address] : roles) {
        read("Web", std::string(role) + ".English", address->english);
        read("Web", std::string(role) + ".Polish", address->polish);
        read("Web", std::string(role) + ".Deutsch", address->deutsch);
    }
    read("Web", "Forum", addresses.forum);
    read("Web", "PolishHome", addresses.polishHome);
    return addresses;
}

}  // namespace quellstone::i18n
