// Precompiled headers of the test programs: Qt, GoogleTest and GoogleMock.
#pragma once
#ifdef __cplusplus
#include "QtPch.h"
#include <QtTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#endif
