#pragma once

#include "Burrowlight/Models/SidebarItem.h"
#include "TunnelKit/Tunnel.h"
#include "TunnelKit/TunnelConnection.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Which tunnels the main window lists, in which order, and how many each sidebar group holds: plain
// functions over the stored tunnels and their connections' states.
namespace burrowlight::listing {

using StateOf = std::function<tunnelkit::TunnelState(const tunnelkit::Uuid&)>;
using TextsOf = std::function<QStringList(const tunnelkit::Tunnel&)>;

// The search field's text without the spaces and tabs at its ends; line breaks stay.
QString trimmedSearch(const QString& typed);

// What the search looks in, in the order it looks: name, host, user, note, jump hosts, each tag,
// each forward as one line ("8080 → web:80", "SOCKS 1080"). Ports, files, options, forward notes
// and the "Untitled Tunnel" stand-in are not searched.
QStringList searchTexts(const tunnelkit::Tunnel& tunnel);
// Letter case ignored, diacritics kept: "web" finds "Web01", "cafe" does not find "café".
bool matchesSearch(const QStringList& texts, const QString& trimmed);

bool belongsTo(const tunnelkit::Tunnel& tunnel, const SidebarItem& group,
               const tunnelkit::TunnelState& state);

// The group's tunnels the search finds, pinned first, then by name in the localized standard order
// (tunnels that compare equal keep their stored order).
std::vector<const tunnelkit::Tunnel*> listedTunnels(const std::vector<tunnelkit::Tunnel>& tunnels,
                                                    const SidebarItem& group, const QString& search,
                                                    const StateOf& stateOf,
                                                    const TextsOf& textsOf = searchTexts);

struct SidebarCounts {
    int all = 0;
    int pinned = 0;
    int connected = 0;
    int untagged = 0;
    int trash = 0;
    // The tags of the live tunnels, each once, in the localized standard order, with their counts.
    std::vector<std::pair<std::string, int>> tags;

    int count(const SidebarItem& item) const;
    bool operator==(const SidebarCounts&) const = default;
};

SidebarCounts sidebarCounts(const std::vector<tunnelkit::Tunnel>& tunnels, const StateOf& stateOf);

// The tags a typed text stands for, in the order typed: split at commas, trimmed, empty pieces
// dropped. Empty for ",," or blanks.
std::vector<std::string> tagPieces(const QString& typed);

} // namespace burrowlight::listing
