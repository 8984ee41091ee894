#include "TunnelKit/SSHManual.h"

#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/Text.h"

#include <ranges>
#include <thread>
#include <vector>

namespace tunnelkit::SSHManual {

namespace {

bool isEmptyLine(std::string_view line) {
    return text::trimBlanks(line).empty();
}

// mandoc on macOS quotes a description with ">"; Debian's mandoc indents it with a tab instead.
// A quote mark alone still belongs to the paragraph; a tab alone is just an empty line.
bool isDescriptionLine(std::string_view line) {
    return text::startsWith(line, ">") || (text::startsWith(line, "\t") && !isEmptyLine(line));
}

std::string replaceAll(std::string textValue, std::string_view from, std::string_view to) {
    for (auto at = textValue.find(from); at != std::string::npos; at = textValue.find(from, at + to.size())) {
        textValue.replace(at, from.size(), to);
    }
    return textValue;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string result;
    for (size_t index = 0; index < parts.size(); ++index) {
        result += (index == 0 ? "" : std::string(separator)) + parts[index];
    }
    return result;
}

std::string cleaned(const std::string& paragraph) {
    return replaceAll(replaceAll(paragraph, " ,", ","), " .", ".");
}

// The index of the first description line of the entry nearest the end, if there is one.
std::optional<size_t> descriptionStart(const std::vector<std::string>& lines, const std::string& heading) {
    for (size_t index = lines.size(); index-- > 0;) {
        if (lines[index] != heading) {
            continue;
        }
        size_t next = index + 1;
        while (next < lines.size() && isEmptyLine(lines[next])) {
            ++next;
        }
        if (next < lines.size() && isDescriptionLine(lines[next])) {
            return next;
        }
    }
    return std::nullopt;
}

std::vector<std::string> paragraphsFrom(const std::vector<std::string>& lines, size_t start) {
    std::vector<std::string> paragraphs;
    std::vector<std::string> current;
    const auto endParagraph = [&] {
        if (!current.empty()) {
            paragraphs.push_back(joined(current, " "));
            current.clear();
        }
    };
    for (size_t index = start; index < lines.size(); ++index) {
        const auto& line = lines[index];
        if (isDescriptionLine(line)) {
            current.push_back(text::trimBlanks(std::string_view(line).substr(1)));
        } else if (isEmptyLine(line)) {
            endParagraph();
        } else {
            break;
        }
    }
    endParagraph();
    return paragraphs;
}

} // namespace

std::optional<std::string> render(const std::string& renderer) {
    const auto run =
        runChildProcess(ChildProcessRequest{.executable = renderer,
                                            .arguments = {"-T", "markdown", std::string(manualPath)},
                                            .environment = currentEnvironment(),
                                            .errorOutput = ErrorOutput::discarded,
                                            .timeout = std::nullopt});
    if (!run || run->termination != Termination(Exited{0})) {
        return std::nullopt;
    }
    return decodeUTF8(run->output);
}

void load(Completion completion, const std::string& renderer) {
    std::thread([renderer, completion = std::move(completion)] { completion(render(renderer)); }).detach();
}

std::optional<std::string> section(std::string_view option, std::string_view markdown) {
    const auto lines = text::split(markdown, '\n');
    const auto heading = "**" + std::string(option) + "**";
    const auto start = descriptionStart(lines, heading);
    if (!start) {
        return std::nullopt;
    }
    const auto paragraphs = paragraphsFrom(lines, *start);
    if (paragraphs.empty()) {
        return std::nullopt;
    }
    const auto cleanedParagraphs = paragraphs | std::views::transform(cleaned);
    return joined({cleanedParagraphs.begin(), cleanedParagraphs.end()}, "\n\n");
}

} // namespace tunnelkit::SSHManual
