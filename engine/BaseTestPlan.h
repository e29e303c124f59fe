// The base of test plans: reserving and releasing the plan's ports.
#pragma once

#include <QString>
#include <cstdint>

class CBaseTestPlan
{
public:
    virtual std::uint16_t ReservePorts() = 0;
    virtual std::uint16_t ReleasePorts() = 0;

    QString Text;

protected:
    CBaseTestPlan() = default;
    ~CBaseTestPlan() = default;
    CBaseTestPlan(const CBaseTestPlan &) = default;
    CBaseTestPlan &operator=(const CBaseTestPlan &) = default;
};
