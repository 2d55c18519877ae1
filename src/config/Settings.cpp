#include "config/Settings.h"

#include "config/NumericText.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace dokivo {

using platform::IniDocument;

QString Settings::iniPath() const {
    return config_dir + kIniFileName;
}

QString ReadIni(const QString& section, const QString& key, const QString& fallback, const QString& file) {
    return platform::readProfileString(section, key, fallback, file);
}

void LoadSettings(Settings& settings) {
    // One parse of the file serves every key of the load.
    const IniDocument ini = IniDocument::load(settings.iniPath());
    auto read = [&](const QString& key) { return ini.value(kIniSection, key); };

    settings.password_handling_on = false;
    settings.use_standard_password = false;

    for (int s = 0; s < kSlotCount; ++s) {
        SlotSettings& slot = settings.slots[s];
        for (const SlotKey& key : kSlotKeys)
            slot.*key.field = read(slotKey(key.stem, s));
        if (readsAsOne(slot.gestione_pwd))
            settings.password_handling_on = true;
    }

    QString extensions;
    for (int i = 0; i < kExtensionCount; ++i) {
        const QString ext = read(slotKey(kExtensionKeyStem, i)).trimmed();
        if (!ext.isEmpty() && !ext.contains(QLatin1Char(' ')))
            extensions += QStringLiteral("||") + ext;
    }
    if (!extensions.isEmpty())
        extensions += QStringLiteral("||");
    settings.extension_list = extensions;

    settings.dir_log_generale = read(kDirLogGeneraleKey);

    settings.dir_pwd = read(kDirPwdKey);
    if (settings.dir_pwd.isEmpty() && settings.password_handling_on)
        settings.dir_pwd = platform::withTrailingSeparator(settings.system_root);
    if (!settings.dir_pwd.isEmpty()) {
        settings.dir_pwd = platform::withTrailingSeparator(settings.dir_pwd);
        if (settings.password_handling_on &&
            !platform::regularFileExists(settings.dir_pwd + kPasswordFileName))
            settings.use_standard_password = true;
    }

    settings.formatoatene_prefissi = read(kFormatoatenePrefissiKey);
    settings.immediate_filing = readsAsYes(read(kArchiviazioneImmediataKey));

    settings.timer_delta = read(kTimerDeltaKey);
    if (settings.timer_delta.isEmpty())
        settings.timer_delta = kDefaultTimerDelta;
}

}  // namespace dokivo
