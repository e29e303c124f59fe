// The text of a language key in the current language, for the engine and every window.
#pragma once

#include "engine/EngineHost.h"

#include <QString>

inline QString languageText(const char *key)
{
    return EngineHost::instance().text(QString::fromLatin1(key));
}
