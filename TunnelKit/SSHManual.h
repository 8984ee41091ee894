#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tunnelkit {

// The ssh_config(5) manual page rendered to Markdown by mandoc, and the description of one
// option cut out of it for the option help.
namespace SSHManual {

// mandoc also finds the page when it is installed compressed as ssh_config.5.gz.
inline constexpr std::string_view manualPath = "/usr/share/man/man5/ssh_config.5";
inline constexpr std::string_view rendererPath = "/usr/bin/mandoc";

// Runs `renderer` -T markdown on the page and blocks until it has ended; nothing when it
// cannot be started or exits with a non-zero status.
std::optional<std::string> render(const std::string& renderer = std::string(rendererPath));

using Completion = std::function<void(std::optional<std::string>)>;

// render() on a thread of its own, so the caller's thread stays free; `completion` is called on
// that thread.
void load(Completion completion, const std::string& renderer = std::string(rendererPath));

// The description of `option` (matched case-sensitively) as Markdown paragraphs separated by
// one empty line; nothing when the page has no entry for it. Markdown escapes are kept, so the
// text is meant for a Markdown renderer: an escaped "*" stays a literal asterisk there.
std::optional<std::string> section(std::string_view option, std::string_view markdown);

} // namespace SSHManual

} // namespace tunnelkit
