// The settings file Setting.ini in the program folder: [Language] SelLangFile and AutoClear.
#pragma once

#include "platform/FileSave.h"

#include <QString>
#include <QStringView>

// GetAppDirectory() + "Setting.ini".
QString settingsFilePath();

// A value cut to bufferChars - 1 characters; the default when the file or key is missing.
QString readSetting(const QString &path, QStringView section, QStringView key, const QString &defaultValue,
                    int bufferChars);
int readSettingInt(const QString &path, QStringView section, QStringView key, int defaultValue);

// Writes a value with each line break stored as backslash-n (the rule the language texts are read
// with). Fails when nothing was written.
SaveResult writeSetting(const QString &path, QStringView section, QStringView key, const QString &value);
// Writes an integer as "%d".
SaveResult writeSettingInt(const QString &path, QStringView section, QStringView key, int value);
// Tells the user, with the reason, that a setting could not be saved and holds for this run only.
void reportSettingNotSaved(const SaveResult &result);
