#include "settings/setting_keys_text.h"

#include "platform/system_places.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

std::optional<std::string> SystemText(SystemDefault value, const WindowRoom* room) {
    switch (value) {
        case SystemDefault::None:
            break;
        case SystemDefault::StartDirectory:
            return DefaultStartDirectory();
        case SystemDefault::CopyDirectory:
            return DefaultCopyDirectory();
        case SystemDefault::CentredTop:
            if (room) return FormatSingle(CentredTop(*room));
            break;
        case SystemDefault::CentredLeft:
            if (room) return FormatSingle(CentredLeft(*room));
            break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DefaultText(const SettingKey& key) {
    if (key.defaultText) return key.defaultText;
    return SystemText(key.systemDefault, nullptr);
}

std::string LegacyDefaultText(const SettingKey& key, const WindowRoom& room) {
    if (key.legacyDefault) return key.legacyDefault;
    if (auto text = SystemText(key.legacySystemDefault, &room)) return *text;
    return DefaultText(key).value_or("");
}

std::optional<std::string> StoredText(SettingsStore& store, const SettingKey& key) {
    if (auto text = store.get(key.section, key.name)) return text;
    return DefaultText(key);
}

void Store(SettingsStore& store, const SettingKey& key, const std::string& text) {
    store.set(key.section, key.name, text);
}

}  // namespace vantrel
