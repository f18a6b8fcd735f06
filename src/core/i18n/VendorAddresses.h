#pragma once

#include <string>

#include "core/ports/FileStore.h"

namespace quellstone::i18n {

// One web address per interface language.
struct LocalisedAddress {
    std::string english;
    std::string polish;
    std::string deutsch;
};

// The vendor's addresses, from vendor.ini in the program folder:
//
//   [Update]
//   Server=http://update.orvanta.example/
//   PublicKey=RWQ...   (the base64 line of the vendor's minisign public key; empty: none)
//   [Web]
//   Home.English=...   (Home, Statistics, Update, Support, Contact; .English, .Polish, .Deutsch)
//   Forum=...
//   PolishHome=...
//
// Every key that the file lacks (or the whole file) falls back to a
// compiled-in default.
struct VendorAddresses {
    std::string updateServer;
    std::string updatePublicKey;  // the key databases are signed with; empty when none is configured
    LocalisedAddress home;
    LocalisedAddress statistics;
    LocalisedAddress update;
    LocalisedAddress support;
    LocalisedAddress contact;
    std::string forum;
    std::string polishHome;

    static VendorAddresses Defaults();
    static VendorAddresses Load(ports::FileStore& files, const std::string& vendorFile);
};

}  // namespace quellstone::i18n
