#include "ports/PageDirectory.h"

namespace {
PageDirectory *g_directory = nullptr;
}

PageDirectory *PageDirectory::current()
{
    return g_directory;
}

PageDirectory *PageDirectory::install(PageDirectory *directory)
{
    PageDirectory *before = g_directory;
    g_directory = directory;
    return before;
}
