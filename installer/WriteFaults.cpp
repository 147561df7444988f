#include "installer/WriteFaults.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace installer
{

namespace
{

struct Settings
{
    long failAt = 0;
    long denyAt = 0;
    DWORD delayMs = 0;
};

Settings g_settings;
volatile LONG g_writes = 0;
INIT_ONCE g_readEnvironment = INIT_ONCE_STATIC_INIT;

Settings Parse(const char* text)
{
    Settings settings;
    std::string rest = text != nullptr ? text : "";
    while (!rest.empty())
    {
        const std::size_t comma = rest.find(',');
        const std::string item = rest.substr(0, comma);
        rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = item.substr(0, equals);
        const long value = std::strtol(item.c_str() + equals + 1, nullptr, 10);
        if (key == "fail")
            settings.failAt = value;
        else if (key == "deny")
            settings.denyAt = value;
        else if (key == "delay" && value > 0)
            settings.delayMs = static_cast<DWORD>(value);
    }
    return settings;
}

BOOL CALLBACK ReadEnvironment(PINIT_ONCE, void*, void**)
{
    char value[64] = {};
    if (GetEnvironmentVariableA("SETUP_TEST_WRITES", value, sizeof value) < sizeof value)
        g_settings = Parse(value);
    return TRUE;
}

}  // namespace

void ConfigureWriteFaults(const char* settings)
{
    InitOnceExecuteOnce(&g_readEnvironment, ReadEnvironment, nullptr, nullptr);
    if (settings == nullptr)
        ReadEnvironment(nullptr, nullptr, nullptr);
    else
        g_settings = Parse(settings);
    InterlockedExchange(&g_writes, 0);
}

DWORD NextWriteFault()
{
    InitOnceExecuteOnce(&g_readEnvironment, ReadEnvironment, nullptr, nullptr);
    const Settings settings = g_settings;
    if (settings.failAt == 0 && settings.denyAt == 0 && settings.delayMs == 0)
        return ERROR_SUCCESS;
    if (settings.delayMs > 0)
        Sleep(settings.delayMs);
    const long count = InterlockedIncrement(&g_writes);
    if (count == settings.failAt)
        return ERROR_DISK_FULL;
    if (count == settings.denyAt)
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

}  // namespace installer
