#include "ports/PortConfig.h"

CPortConfig::CPortConfig(QWidget *parent) : QWidget(parent) {}

void CPortConfig::SetLanguageText() {}
