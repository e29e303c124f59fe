#include "ports/PortInfoConfig.h"

CPortInfoConfig::CPortInfoConfig(QWidget *parent) : QWidget(parent) {}
