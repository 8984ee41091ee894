#include "TunnelKit/SSHConfigReader.h"

#include "TunnelKit/FileIO.h"
#include "TunnelKit/Spawn.h"
#include "TunnelKit/Text.h"

#include <algorithm>
#include <glob.h>
#include <set>

namespace tunnelkit::SSHConfigReader {

namespace {

bool isPatternOrNegation(std::string_view argument) {
    return argument.find_first_of("*?!") != std::string_view::npos;
}

struct Listing {
    std::string homeDirectory;
    std::set<std::string> pathsRead;
    std::vector<std::string> aliases;

    void read(const std::string& path, int depth) {
        if (depth > maximumIncludeDepth || !pathsRead.insert(path).second) {
            return;
        }
        const auto bytes = readFile(path, maximumFileSize);
        if (!bytes) {
            return;
        }
        // Ill-formed bytes become U+FFFD: one Latin-1 comment must not cost the file's aliases.
        for (const auto& line : nonEmptyLines(decodeUTF8(*bytes))) {
            const auto tokens = tokenize(line);
            if (tokens.keyword == "host") {
                std::ranges::copy_if(
                    tokens.arguments, std::back_inserter(aliases),
                    [](const std::string& argument) { return !isPatternOrNegation(argument); });
            } else if (tokens.keyword == "include") {
                for (const auto& argument : tokens.arguments) {
                    for (const auto& included : expandInclude(argument, homeDirectory)) {
                        read(included, depth + 1);
                    }
                }
            }
        }
    }
};

std::vector<std::string> withoutRepeats(const std::vector<std::string>& aliases) {
    std::vector<std::string> unique;
    std::set<std::string> seen;
    for (const auto& alias : aliases) {
        if (seen.insert(alias).second) {
            unique.push_back(alias);
        }
    }
    return unique;
}

class GlobMatches {
  public:
    explicit GlobMatches(const std::string& pattern)
        : status_(::glob(pattern.c_str(), 0, nullptr, &buffer_)) {}
    ~GlobMatches() { ::globfree(&buffer_); }
    GlobMatches(const GlobMatches&) = delete;
    GlobMatches& operator=(const GlobMatches&) = delete;

    std::vector<std::string> paths() const {
        if (status_ != 0) {
            return {};
        }
        return {buffer_.gl_pathv, buffer_.gl_pathv + buffer_.gl_pathc};
    }

  private:
    glob_t buffer_{};
    int status_;
};

} // namespace

std::vector<std::string> nonEmptyLines(std::string_view textValue) {
    std::vector<std::string> lines;
    std::u32string current;
    const auto flush = [&] {
        if (!current.empty()) {
            lines.push_back(text::fromCodePoints(current));
            current.clear();
        }
    };
    for (char32_t c : text::toCodePoints(textValue)) {
        if (text::isLineBreak(c)) {
            flush();
        } else {
            current.push_back(c);
        }
    }
    flush();
    return lines;
}

TokenizedLine tokenize(std::string_view line) {
    const auto points = text::toCodePoints(text::trimBlanks(line));
    if (points.empty() || points.front() == U'#') {
        return {};
    }
    size_t i = 0;
    while (i < points.size() && !text::isWhitespace(points[i]) && points[i] != U'=') {
        ++i;
    }
    TokenizedLine result;
    result.keyword = text::lowercased(text::fromCodePoints(std::u32string_view(points).substr(0, i)));

    const auto skipWhitespace = [&] {
        while (i < points.size() && text::isWhitespace(points[i])) {
            ++i;
        }
    };
    skipWhitespace();
    if (i < points.size() && points[i] == U'=') {
        ++i;
        skipWhitespace();
    }

    bool insideQuotes = false;
    std::u32string word;
    const auto endWord = [&] {
        if (!word.empty()) {
            result.arguments.push_back(text::fromCodePoints(word));
            word.clear();
        }
    };
    for (; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (c == U'"') {
            insideQuotes = !insideQuotes;
        } else if (!insideQuotes && text::isWhitespace(c)) {
            endWord();
        } else if (!insideQuotes && c == U'#' && word.empty()) {
            break;
        } else {
            word.push_back(c);
        }
    }
    endWord();
    return result;
}

std::vector<std::string> expandInclude(std::string_view argument, const std::string& homeDirectory) {
    std::string path(argument);
    if (text::startsWith(path, "~/")) {
        path = homeDirectory + path.substr(1);
    }
    if (!text::startsWith(path, "/")) {
        path = homeDirectory + "/.ssh/" + path;
    }
    auto matches = GlobMatches(path).paths();
    std::ranges::sort(matches);
    return matches;
}

std::vector<std::string> hostAliases(const std::string& configFile, const std::string& homeDirectory) {
    Listing listing{.homeDirectory = homeDirectory, .pathsRead = {}, .aliases = {}};
    listing.read(configFile, 0);
    return withoutRepeats(listing.aliases);
}

} // namespace tunnelkit::SSHConfigReader
