// SPDX-License-Identifier: MIT
#include "shell/ini_profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "base/file_replace.h"
#include "base/string_ids.h"
#include "base/whole_file.h"
#include "shell/strings.h"

namespace kotoha {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

bool HasControlByte(std::string_view s) {
    for (char c : s) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return true;
    }
    return false;
}

// The line before a new one must end in LF, or the two would run together
// (a last line may end without one, or in a lone CR).
template <class Line>
void EndLine(Line& line) {
    if (line.ending.empty() || line.ending.back() != '\n')
        line.ending += '\n';
}

bool IsWritableSection(std::string_view s) {
    return !s.empty() && Trim(s).size() == s.size() && !HasControlByte(s) &&
           s.find(']') == std::string_view::npos;
}

bool IsWritableKey(std::string_view k) {
    return !k.empty() && Trim(k).size() == k.size() && !HasControlByte(k) &&
           k.find('=') == std::string_view::npos && k.front() != '[' && k.front() != ';' &&
           k.front() != '#';
}

// A whole decimal integer with an optional sign that fits 32 bits.
bool ParseInt32(std::string_view text, std::int32_t& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1)
            return false;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

// Creates dir and its missing parents (mode 0700, as for a user's
// configuration). True when dir exists as a folder afterwards.
bool MakeFolders(const std::string& dir) {
    if (dir.empty())
        return true;
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    std::size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(dir.substr(0, slash))) {
        return false;
    }
    if (mkdir(dir.c_str(), 0700) == 0)
        return true;
    return errno == EEXIST && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string EscapeIniValue(std::string_view value) {
    const bool wrapped = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (Trim(value).size() == value.size() && value.find_first_of("\r\n") == std::string::npos &&
        !wrapped) {
        return std::string(value);
    }
    std::string out = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string UnescapeIniValue(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::string(text);
    text = text.substr(1, text.size() - 2);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            const char* replacement = next == '"'    ? "\""
                                      : next == '\\' ? "\\"
                                      : next == 'n'  ? "\n"
                                      : next == 'r'  ? "\r"
                                                     : nullptr;
            if (replacement != nullptr) {
                out += replacement;
                ++i;
                continue;
            }
        }
        // Anything else, a lone backslash included, is taken as it stands.
        out += text[i];
    }
    return out;
}

namespace {

// The folder of configuration files: $XDG_CONFIG_HOME when absolute, else
// ~/.config of an absolute home; "" when neither is known.
std::string ConfigFolder(const char* xdgConfigHome, const char* home) {
    std::string base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base;
}

const char* HomeFolder(std::string& passwdHome) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        // Without HOME, the password database still knows the home folder.
        struct passwd entry {};
        struct passwd* found = nullptr;
        char buffer[4096];
        if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr) {
            passwdHome = found->pw_dir;
            home = passwdHome.c_str();
        }
    }
    return home;
}

}  // namespace

std::string DefaultIniPath(const char* xdgConfigHome, const char* home) {
    const std::string base = ConfigFolder(xdgConfigHome, home);
    return base.empty() ? base : base + "/kotoha/kotoha.ini";
}

std::string LegacyIniPath(const char* xdgConfigHome, const char* home) {
    const std::string base = ConfigFolder(xdgConfigHome, home);
    return base.empty() ? base
                        : base + "/" + LoadString(StringId::kCompanyName) + "/" +
                              LoadString(StringId::kAppTitle) + ".ini";
}

bool AdoptLegacyProfile(const std::string& legacy, const std::string& current) {
    struct stat st {};
    if (legacy.empty() || current.empty() || lstat(current.c_str(), &st) == 0 ||
        lstat(legacy.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    std::error_code ignored;
    std::filesystem::create_directories(DirectoryOf(current), ignored);
    if (rename(legacy.c_str(), current.c_str()) != 0)
        return false;
    // The old folder goes too when nothing else is in it.
    rmdir(DirectoryOf(legacy).c_str());
    return true;
}

void AdoptLegacyProfile() {
    std::string passwdHome;
    const char* home = HomeFolder(passwdHome);
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    AdoptLegacyProfile(LegacyIniPath(xdg, home), DefaultIniPath(xdg, home));
}

std::string DefaultIniPath() {
    std::string passwdHome;
    const char* home = HomeFolder(passwdHome);
    return DefaultIniPath(std::getenv("XDG_CONFIG_HOME"), home);
}

void IniProfile::Parse(std::string_view text) {
    lines_.clear();
    // A byte order mark counts only at the very start of the file.
    byteOrderMark_ = text.substr(0, 3) == "\xEF\xBB\xBF";
    if (byteOrderMark_)
        text.remove_prefix(3);
    while (!text.empty()) {
        // A line ends at LF, or at a run of CRs that no LF follows (an old
        // Mac file); every CR before the LF belongs to the line ending, so
        // that hand edited CR CR LF endings survive a save.
        std::size_t end = text.find_first_of("\r\n");
        std::size_t next = text.size();
        if (end != std::string_view::npos) {
            std::size_t after = end;
            while (after < text.size() && text[after] == '\r')
                ++after;
            if (after < text.size() && text[after] == '\n')
                ++after;
            next = after;
        } else {
            end = text.size();
        }
        Line line;
        line.text = std::string(text.substr(0, end));
        line.ending = std::string(text.substr(end, next - end));
        text.remove_prefix(next);

        const std::string_view trimmed = Trim(line.text);
        const std::size_t equals = trimmed.find('=');
        if (line.text.find('\0') != std::string::npos || trimmed.empty() ||
            trimmed.front() == ';' || trimmed.front() == '#') {
            // Skipped when reading, kept when writing.
        } else if (trimmed.front() == '[') {
            // A header cut short (no "]") still names its section, so that
            // its entries do not land in the section before.
            std::string_view name = trimmed.substr(1);
            const std::size_t close = name.rfind(']');
            if (close != std::string_view::npos)
                name = name.substr(0, close);
            line.kind = LineKind::Header;
            line.name = Trim(name);
        } else if (equals != std::string_view::npos && !Trim(trimmed.substr(0, equals)).empty()) {
            line.kind = LineKind::Entry;
            line.name = Trim(trimmed.substr(0, equals));
            line.value = UnescapeIniValue(Trim(trimmed.substr(equals + 1)));
        }
        lines_.push_back(std::move(line));
    }
}

std::string IniProfile::Serialize() const {
    std::string out = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (const Line& line : lines_) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

IniProfile::Line* IniProfile::Find(std::string_view section, std::string_view key) {
    bool inSection = false;
    for (Line& line : lines_) {
        if (line.kind == LineKind::Header)
            inSection = EqualsNoCase(line.name, section);
        else if (inSection && line.kind == LineKind::Entry && EqualsNoCase(line.name, key))
            return &line;
    }
    return nullptr;
}

std::optional<std::size_t> IniProfile::InsertionPoint(std::string_view section) const {
    std::size_t header = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Header && EqualsNoCase(lines_[i].name, section)) {
            header = i;
            break;
        }
    }
    if (header == lines_.size())
        return std::nullopt;
    std::size_t after = header + 1;
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::Header; ++i) {
        if (!Trim(lines_[i].text).empty())
            after = i + 1;
    }
    return after;
}

std::int32_t IniProfile::ReadInt(std::string_view section, std::string_view key,
                                 std::int32_t defaultValue) {
    const Line* line = Find(section, key);
    std::int32_t value = 0;
    if (line == nullptr || !ParseInt32(line->value, value))
        return defaultValue;
    return value;
}

void IniProfile::WriteInt(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

std::string IniProfile::ReadString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) {
    const Line* line = Find(section, key);
    return line == nullptr ? std::string(defaultValue) : line->value;
}

void IniProfile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
    if (!IsWritableSection(section) || !IsWritableKey(key) ||
        value.find('\0') != std::string_view::npos) {
        return;
    }
    Line* line = Find(section, key);
    if (line == nullptr) {
        std::optional<std::size_t> at = InsertionPoint(section);
        if (!at) {
            // A new section goes last, after a blank line.
            if (!lines_.empty()) {
                EndLine(lines_.back());
                if (!Trim(lines_.back().text).empty())
                    lines_.push_back({{}, "\n", LineKind::Other, {}, {}});
            }
            // Appended rather than concatenated: GCC 12 warns falsely
            // (-Wrestrict) about a literal plus a temporary string.
            std::string header = "[";
            header += section;
            header += ']';
            lines_.push_back({std::move(header), "\n", LineKind::Header, std::string(section), {}});
            at = lines_.size();
        }
        if (*at > 0)
            EndLine(lines_[*at - 1]);
        line = &*lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*at),
                               Line{{}, "\n", LineKind::Entry, std::string(key), {}});
    } else if (line->value == value) {
        // An entry written with its current value keeps its text as it was.
        return;
    }
    line->value = value;
    line->text = line->name + "=" + EscapeIniValue(value);
}

void IniProfile::RemoveKey(std::string_view section, std::string_view key) {
    bool inSection = false;
    std::erase_if(lines_, [&](const Line& line) {
        if (line.kind == LineKind::Header)
            inSection = EqualsNoCase(line.name, section);
        return inSection && line.kind == LineKind::Entry && EqualsNoCase(line.name, key);
    });
}

namespace {

// A file mostly of control bytes (an executable, an image) is no profile.
bool LooksLikeText(std::string_view bytes) {
    std::size_t control = 0;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\t' && c != '\n' && c != '\r') || b == 0x7F)
            ++control;
    }
    return control * 10 <= bytes.size();
}

}  // namespace

bool IniProfile::Load(const std::string& path) {
    lines_.clear();
    byteOrderMark_ = false;
    path_ = path;
    mayReplace_ = true;
    // Non-blocking, so that a FIFO in the file's place cannot hang the start.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        mayReplace_ = false;
        return false;
    }
    struct stat st {};
    GlobalArray<std::uint8_t> bytes;
    int error = 0;
    const bool read = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                      static_cast<std::uint64_t>(st.st_size) <= kMaxFileBytes &&
                      ReadWholeFile(fd, bytes, error) == WholeFileStatus::Ok;
    close(fd);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.capacity());
    if (!read || text.size() > kMaxFileBytes || !LooksLikeText(text)) {
        // Never overwritten: what could not be read is not lost.
        mayReplace_ = false;
        return false;
    }
    Parse(text);
    return true;
}

bool IniProfile::Save() {
    if (path_.empty() || !mayReplace_)
        return false;
    std::string target;
    if (!FollowLinks(path_, target) || !MakeFolders(DirectoryOf(target)))
        return false;
    ReplaceOptions options;
    options.newFileMode = 0600;  // a user's settings are nobody else's business
    const std::string text = Serialize();
    // Never a file the next start would refuse to read: the one there stays.
    if (text.size() > kMaxFileBytes || !LooksLikeText(text))
        return false;
    return ReplaceFileContents(
               path_,
               [&](FdSink& sink) {
                   return sink.Write(reinterpret_cast<const std::uint8_t*>(text.data()),
                                     text.size());
               },
               options)
        .ok();
}

}  // namespace kotoha
