#include "shell/ini_profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "shell/string_ids.h"
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

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ReadWholeFile(int fd, std::string& out) {
    char buffer[8192];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > IniProfile::kMaxFileBytes)
            return true;
    }
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
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
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        auto b = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else if (c == ' ' && (i == 0 || i + 1 == value.size())) {
            // Blanks at either end would be trimmed away when reading.
            out += "\\s";
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeIniValue(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[i + 1];
        switch (next) {
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 's':
                out += ' ';
                break;
            case 'x': {
                int hi = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
                int lo = i + 3 < text.size() ? HexDigit(text[i + 3]) : -1;
                if (hi < 0 || lo < 0) {
                    out += text[i];
                    continue;
                }
                out += static_cast<char>(hi * 16 + lo);
                i += 3;
                continue;
            }
            default:
                // Not an escape: keep the backslash, read on from the next
                // character.
                out += text[i];
                continue;
        }
        ++i;
    }
    return out;
}

std::string DefaultIniPath(const char* xdgConfigHome, const char* home) {
    std::string base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home != nullptr && home[0] != '\0') {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/" + LoadString(StringId::kCompanyName) + "/" + LoadString(StringId::kAppTitle) +
           ".ini";
}

std::string DefaultIniPath() {
    const char* home = std::getenv("HOME");
    std::string passwdHome;
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
    return DefaultIniPath(std::getenv("XDG_CONFIG_HOME"), home);
}

void IniProfile::Parse(std::string_view text) {
    sections_.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    Section* current = nullptr;
    while (!text.empty()) {
        std::size_t lineFeed = text.find('\n');
        std::string_view line = text.substr(0, lineFeed);
        text.remove_prefix(lineFeed == std::string_view::npos ? text.size() : lineFeed + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string_view trimmed = Trim(line);
        if (trimmed.empty())
            continue;
        if (trimmed.front() == '[') {
            // A header cut short (no "]") still names its section, so that
            // its entries do not land in the section before.
            std::string_view name = trimmed.substr(1);
            std::size_t close = name.rfind(']');
            if (close != std::string_view::npos)
                name = name.substr(0, close);
            sections_.push_back({std::string(Trim(name)), true, {}});
            current = &sections_.back();
            continue;
        }
        bool comment = trimmed.front() == ';' || trimmed.front() == '#';
        std::size_t equals = trimmed.find('=');
        if (!comment &&
            (equals == std::string_view::npos || Trim(trimmed.substr(0, equals)).empty())) {
            continue;
        }
        if (current == nullptr) {
            sections_.push_back({std::string(), false, {}});
            current = &sections_.back();
        }
        Line entry{std::string(line), {}, {}};
        if (!comment) {
            entry.key = Trim(trimmed.substr(0, equals));
            entry.value = UnescapeIniValue(Trim(trimmed.substr(equals + 1)));
        }
        current->lines.push_back(std::move(entry));
    }
}

std::string IniProfile::Serialize() const {
    std::string out;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            if (!out.empty())
                out += '\n';
            out += '[';
            out += section.name;
            out += "]\n";
        }
        for (const Line& line : section.lines) {
            out += line.text;
            out += '\n';
        }
    }
    return out;
}

IniProfile::Line* IniProfile::Find(std::string_view section, std::string_view key) {
    for (Section& s : sections_) {
        if (!s.hasHeader || !EqualsNoCase(s.name, section))
            continue;
        for (Line& line : s.lines) {
            if (!line.key.empty() && EqualsNoCase(line.key, key))
                return &line;
        }
    }
    return nullptr;
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
    if (!IsWritableSection(section) || !IsWritableKey(key))
        return;
    Line* line = Find(section, key);
    if (line == nullptr) {
        Section* target = nullptr;
        for (Section& s : sections_) {
            if (s.hasHeader && EqualsNoCase(s.name, section)) {
                target = &s;
                break;
            }
        }
        if (target == nullptr) {
            sections_.push_back({std::string(section), true, {}});
            target = &sections_.back();
        }
        target->lines.push_back({{}, std::string(key), {}});
        line = &target->lines.back();
    }
    // An entry written with its current value keeps its text as it was.
    if (!line->text.empty() && line->value == value)
        return;
    line->value = value;
    line->text = line->key + "=" + EscapeIniValue(value);
}

void IniProfile::RemoveKey(std::string_view section, std::string_view key) {
    for (Section& s : sections_) {
        if (!s.hasHeader || !EqualsNoCase(s.name, section))
            continue;
        std::erase_if(s.lines, [&](const Line& line) {
            return !line.key.empty() && EqualsNoCase(line.key, key);
        });
    }
}

bool IniProfile::Load(const std::string& path) {
    sections_.clear();
    path_ = path;
    mayReplace_ = true;
    // Non-blocking, so that a FIFO in the file's place cannot hang the start.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        mayReplace_ = false;
        return false;
    }
    struct stat st {};
    std::string text;
    bool read = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadWholeFile(fd, text);
    close(fd);
    if (!read) {
        mayReplace_ = false;
        return false;
    }
    if (text.size() > kMaxFileBytes || text.find('\0') != std::string::npos)
        return false;
    Parse(text);
    return true;
}

bool IniProfile::Save() {
    if (path_.empty() || !mayReplace_)
        return false;
    std::string target = path_;
    struct stat st {};
    if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* resolved = realpath(path_.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    std::size_t slash = target.find_last_of('/');
    std::string dir = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (!MakeFolders(dir))
        return false;

    std::string temp = dir + "/." + name + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced; a new one is private.
    if (stat(target.c_str(), &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    bool written = WriteAll(fd, Serialize()) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here no longer loses data.
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

}  // namespace kotoha
