#include "engine/RunState.h"

RunState *g_RunState = nullptr;
std::recursive_mutex g_ChartLock;

RunState::RunState()
{
    g_RunState = this;
}

RunState::~RunState()
{
    if (g_RunState == this)
        g_RunState = nullptr;
}

void RunState::RequestStop()
{
    StopRequested = 1;
    emit stopRequested();
}
