// The network page's rules on CNetworkAddMsgSetup: what each connection type offers, how
// the record settles, and which addresses an operation visits.

#include <gtest/gtest.h>

#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"

using namespace voltaris;

namespace {

using Net = CNetworkAddMsgSetup;
constexpr qint16 Aux = CCommConfig::AuxiliaryPort;
constexpr qint16 Single = CCommConfig::SingleInstrument;
constexpr qint16 Network = CCommConfig::Network;

TEST(NetworkRules, ChoicesOfEachConnectionType) {
    const struct {
        qint16 type;
        bool searched, given, whole;
    } cases[] = {
        {Aux, false, false, false},
        {Single, true, true, false},
        {Network, false, true, true},
        {7, false, false, false},  // a type the page does not know offers nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const Net::Choices got = Net::ChoicesFor(c.type);
        EXPECT_EQ(got.searchedAddress, c.searched);
        EXPECT_EQ(got.givenAddress, c.given);
        EXPECT_EQ(got.wholeNetwork, c.whole);
        EXPECT_EQ(got.any(), c.searched || c.given || c.whole);
    }
}

TEST(NetworkRules, AddressRange) {
    const struct {
        int address;
        bool valid;
    } cases[] = {{0, false}, {1, true}, {254, true}, {255, true}, {256, false}, {-1, false}};
    for (const auto& c : cases)
        EXPECT_EQ(Net::IsValidAddress(c.address), c.valid) << c.address;
}

struct RecordCase {
    qint16 type;
    qint16 mode, sel, address, total;
    // after Settle
    qint16 settledMode, settledSel;
    bool searches;
    QList<qint16> addresses;
};

TEST(NetworkRules, SettleSearchAndAddresses) {
    const RecordCase cases[] = {
        // The auxiliary port: one instrument at 255, whatever the record says.
        {Aux, 1, 0, 7, 3, 0, 0, false, {255}},
        {Aux, 0, 1, 7, 3, 0, 1, false, {255}},
        // A single instrument: its address searched or given, never the whole network.
        {Single, 0, 0, 7, 3, 0, 0, true, {7}},
        {Single, 0, 1, 7, 3, 0, 1, false, {7}},
        {Single, 1, 1, 7, 3, 0, 1, false, {7}},
        // A network: a given address or every instrument 1..TotalInstrNetwork.
        {Network, 0, 0, 7, 3, 0, 1, false, {7}},
        {Network, 0, 1, 9, 3, 0, 1, false, {9}},
        {Network, 1, 0, 7, 3, 1, 0, false, {1, 2, 3}},
        {Network, 1, 1, 7, 1, 1, 1, false, {1}},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << " mode " << c.mode << " sel " << c.sel);
        Net n;
        n.setModeConfig(c.mode);
        n.setSelNetworkAdd(c.sel);
        n.setNetworkAdd(c.address);
        n.setTotalInstrNetwork(c.total);
        n.Settle(c.type);
        EXPECT_EQ(n.ModeConfig(), c.settledMode);
        EXPECT_EQ(n.SelNetworkAdd(), c.settledSel);
        EXPECT_EQ(n.InterfaceType(), c.type);
        EXPECT_EQ(n.NetworkAdd(), c.address);
        EXPECT_EQ(n.SearchesAddress(c.type), c.searches);
        EXPECT_EQ(n.Addresses(c.type), c.addresses);
    }
}

TEST(NetworkRules, WholeNetworkIsBoundedToTheAddressRange) {
    Net n;
    n.setModeConfig(1);
    for (const qint16 total : {qint16(0), qint16(-4)}) {
        n.setTotalInstrNetwork(total);
        EXPECT_EQ(n.Addresses(Network), QList<qint16>{1}) << total;
    }
    n.setTotalInstrNetwork(300);
    const QList<qint16> all = n.Addresses(Network);
    ASSERT_EQ(all.size(), 255);
    EXPECT_EQ(all.first(), 1);
    EXPECT_EQ(all.last(), 255);
    // Unsettled whole-network mode on a single instrument still visits one address.
    n.setNetworkAdd(12);
    EXPECT_EQ(n.Addresses(Single), QList<qint16>{12});
}

}  // namespace
