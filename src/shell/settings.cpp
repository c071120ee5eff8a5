// SPDX-License-Identifier: MIT
#include "shell/settings.h"

#include "shell/ini_profile.h"

#include <algorithm>
#include <limits>

namespace kotoha {

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    // Step back over at most three continuation bytes to the start of the
    // character that the limit splits; further back the text is not UTF-8
    // and the plain limit is as good as any.
    std::size_t cut = maxBytes;
    for (int back = 0; back < 3 && cut > 0; ++back) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80)
            break;
        --cut;
    }
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        cut = maxBytes;
    return text.substr(0, cut);
}

void IntSetting::Load(Profile& profile) {
    value = profile.ReadInt(section, key, defaultValue);
}

void IntSetting::Save(Profile& profile) {
    profile.WriteInt(section, key, value);
}

void StringSetting::Load(Profile& profile) {
    Set(profile.ReadString(section, key, defaultValue));
}

void StringSetting::Save(Profile& profile) {
    profile.WriteString(section, key, CutUtf8(value, kMaxSettingText));
}

void StringSetting::Set(std::string_view text) {
    value = CutUtf8(text, kMaxSettingText);
}

std::string IntListSetting::Format(const std::vector<std::int32_t>& values) {
    std::string text;
    for (std::int32_t v : values) {
        if (!text.empty())
            text += ',';
        text += std::to_string(v);
    }
    return text;
}

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The integer at the start of text as the C library's atoi reads it, but
// clamped to the 32-bit range instead of undefined on overflow.
std::int32_t LeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
    }
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

}  // namespace

std::vector<std::int32_t> IntListSetting::Parse(std::string_view text, std::size_t count) {
    std::vector<std::int32_t> values(count, 0);
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = LeadingInt(text.substr(pos));
        std::size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos)
            break;
        pos = comma + 1;
    }
    return values;
}

void IntListSetting::Load(Profile& profile) {
    std::string text = profile.ReadString(section, key, Format(defaults));
    values = Parse(CutUtf8(text, kMaxSettingText), defaults.size());
}

void IntListSetting::Save(Profile& profile) {
    // Twenty values of at most eleven characters each stay within the
    // limit, so the text is never cut in practice.
    std::string text = Format(values);
    profile.WriteString(section, key, CutUtf8(text, kMaxSettingText));
}

std::vector<ProfileSetting*> AppSettings::Entries() {
    return {&SaveFrameStatus, &FramePosition, &FrameIsMax,     &ShowToolBar,
            &ShowStatusBar,   &Tabstops,      &WrapColumns,    &PaintBkgnd,
            &LogFont,         &FontName,      &FontStyle,      &InquireWhenStrayed,
            &PreferWinText,   &DetectUnicode, &ShowInfoBar,    &Path,
            &ViaClipboard,    &Arguments,     &ResembleLess,   &InquireWhenPaste,
            &AskBeforeLoss,   &ReopenCommand, &SaveAsOwnFormat};
}

void AppSettings::LoadAll(Profile& profile) {
    for (ProfileSetting* entry : Entries())
        entry->Load(profile);
}

void AppSettings::SaveAll(Profile& profile) {
    for (ProfileSetting* entry : Entries())
        entry->Save(profile);
}

void AppSettings::SaveChanged(Profile& profile, Profile& before) {
    static constexpr std::string_view kAbsent = "\x01";
    IniProfile now;
    for (ProfileSetting* entry : Entries()) {
        entry->Save(now);
        if (now.ReadString(entry->section, entry->key, kAbsent) !=
            before.ReadString(entry->section, entry->key, kAbsent))
            entry->Save(profile);
    }
}

DocumentOptions DocumentOptionsOf(const AppSettings& settings) {
    return {settings.WrapColumns.value,      settings.Tabstops.value,
            settings.PreferWinText.value,    settings.InquireWhenStrayed.value,
            settings.InquireWhenPaste.value, settings.DetectUnicode.value,
            settings.ShowInfoBar.value,      settings.AskBeforeLoss.value};
}

}  // namespace kotoha
