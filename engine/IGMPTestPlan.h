// The IGMP test plan: the test parameters and port lists the pages copy in and the procedures read.
#pragma once

class CIGMPTestPlan
{
};
