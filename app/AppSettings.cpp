#include "app/AppSettings.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"

#include <QRegularExpression>

QString settingsFilePath()
{
    return GetAppDirectory() + QStringLiteral("Setting.ini");
}

QString readSetting(const QString &path, QStringView section, QStringView key, const QString &defaultValue,
                    int bufferChars)
{
    return IniFile::getString(path, section, key, defaultValue, bufferChars);
}

int readSettingInt(const QString &path, QStringView section, QStringView key, int defaultValue)
{
    return IniFile::getInt(path, section, key, defaultValue);
}

SaveResult writeSetting(const QString &path, QStringView section, QStringView key, const QString &value)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString escaped = value;
    escaped.replace(lineBreak, QStringLiteral("\\n"));
    return IniFile::putString(path, section, key, escaped);
}

SaveResult writeSettingInt(const QString &path, QStringView section, QStringView key, int value)
{
    return writeSetting(path, section, key, formatInt(value));
}

void reportSettingNotSaved(const SaveResult &result)
{
    Prompter::current().messageBox(
        EngineHost::instance().saveFailureText(QStringLiteral("Setting_Save_Fail"), result),
        MB_OK | MB_ICONEXCLAMATION);
}
