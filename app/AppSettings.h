// The settings file Setting.ini in the program folder: [Language] SelLangFile and AutoClear.
#pragma once

#include <QString>
#include <QStringView>

// GetAppDirectory() + "Setting.ini".
QString settingsFilePath();

// A value cut to bufferChars - 1 characters; the default when the file or key is missing.
QString readSetting(const QString &path, QStringView section, QStringView key, const QString &defaultValue,
                    int bufferChars);
int readSettingInt(const QString &path, QStringView section, QStringView key, int defaultValue);

// Writes a value with each line break stored as backslash-n (the rule the language texts are read
// with). False when nothing was written.
bool writeSetting(const QString &path, QStringView section, QStringView key, const QString &value);
// Writes an integer as "%d".
bool writeSettingInt(const QString &path, QStringView section, QStringView key, int value);
