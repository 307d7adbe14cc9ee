#include <gtest/gtest.h>

#include "client/trust.h"

namespace quorbit::client {
namespace {

const std::string kA = "AB:CD:01";
const std::string kB = "AB:CD:02";

TEST(Trust, TheStoreFirstSightAndAChangedCertificate) {
    EXPECT_EQ(judgeCertificate(kA, kB, true), TrustVerdict::Trusted);  // the store vouches, whatever was kept
    EXPECT_EQ(judgeCertificate(std::nullopt, kA, false), TrustVerdict::FirstSeen);
    EXPECT_EQ(judgeCertificate(kA, "abcd01", false), TrustVerdict::Trusted);  // case and separators aside
    EXPECT_EQ(judgeCertificate(kA, kB, false), TrustVerdict::Changed);
    EXPECT_EQ(judgeCertificate(std::nullopt, "", false), TrustVerdict::Changed);  // no certificate at all
    EXPECT_TRUE(plainAllowed(std::nullopt));
    EXPECT_TRUE(plainAllowed(std::string(" ")));
    EXPECT_FALSE(plainAllowed(kA));
}

TEST(Trust, KeysAndTheRefusal) {
    EXPECT_EQ(trustKey("Games.Example.org", 7772), "games.example.org:7772");
    EXPECT_EQ(trustKey("[::1]", 7772), "::1:7772");  // never read as a section's header
    EXPECT_EQ(certificateChangedText("h:1", "/x/orvanelobby.ini"),
              "The certificate of h:1 has changed since you last connected. Somebody may be pretending to be that "
              "server, so Quorbit will not connect. If its operator has changed the certificate, remove the line "
              "for h:1 from the [tls] section of /x/orvanelobby.ini.");
}

}  // namespace
}  // namespace quorbit::client
