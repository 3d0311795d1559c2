#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "comm/LinkMode.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"

namespace voltaris {
class CWirrel;
}

namespace voltaris::cli {

class ArgList;

// What a command does with the instruments it reaches, for the options it takes: one
// instrument (read, live: no --all); every instrument of a network (transmit, reset: --all
// and --keep-going); or a scan (--all N sets the addresses asked).
enum class LinkUse { OneInstrument, EveryInstrument, Scan };

// The LINK options shared by the instrument commands:
//   --port PATH|COM1..COM4|tcp://HOST:PORT  --interface aux|single|network
//   --address N | --auto   --all N [--keep-going]   --fast | --classic | --adaptive   --save
// What is not given comes from the settings store (sections "CCommConfig",
// "CNetworkAddMsgSetup", "Link").
struct LinkOptions {
    std::optional<QString> port;          // as given (a device path, COMn or tcp://...)
    std::optional<qint16> interfaceType;  // 0 aux, 1 single, 2 network
    std::optional<qint16> address;        // --address N: manual address, one instrument
    bool autoAddress = false;             // --auto: search the address
    std::optional<qint16> all;            // --all N: every instrument 1..N of the network
    std::optional<LinkMode> mode;         // --fast, --classic or --adaptive
    bool keepGoing = false;               // --keep-going: past an address that fails
    bool save = false;

    // Names for ArgList: the flags and the options that take a value.
    static QStringList flagNames();
    static QStringList valuedNames();
    // Reads the options out of `args`; UsageError for a bad value (a port that is not COM1..
    // COM4, a path or tcp://HOST:PORT), for more than one link mode, or an option `use` does
    // not take. The combinations with the interface are checked by ApplyLinkOptions.
    static LinkOptions parse(const ArgList& args, LinkUse use);
};

// The two communication records and the line, as one command uses them.
struct LinkSettings {
    LinkSettings() = default;
    // What ResolveLinkSettings returns (records cannot be copied or moved).
    explicit LinkSettings(const LinkOptions& options);

    CCommConfig comm;
    CNetworkAddMsgSetup network;
    QString portName;  // device path or tcp://... overriding the record's COM port; or empty
    LinkMode mode = LinkMode::Adaptive;

    // The port the link opens, for messages: the override or the COM port of the record.
    QString effectivePort() const;
};

// Puts the given options over `comm` and `network` (records as loaded); UsageError for a
// combination the interface type does not allow (--all off a network, --auto on a network,
// --keep-going without a whole network).
void ApplyLinkOptions(const LinkOptions& options, CCommConfig& comm, CNetworkAddMsgSetup& network);

// Loads both records from the settings store, applies the options and, with --save,
// stores the records back (as the communication wizard's End does), a given device path or
// tcp:// address as the record's COM port in section "Ports", and the link mode when given.
LinkSettings ResolveLinkSettings(const LinkOptions& options);

// Points `link` at the settings' port (when an override was given) and sets its mode.
void ConfigureLink(CWirrel& link, const LinkSettings& settings);

// "aux", "single", "network" for an interface type.
QString InterfaceName(qint16 interfaceType);

}  // namespace voltaris::cli
