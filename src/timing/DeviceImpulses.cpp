#include "DeviceImpulses.h"

DeviceImpulses::DeviceImpulses(TFormMainUi &ui, Photocells &photocells, RunHooks &hooks,
                               QObject *parent)
    : QObject(parent), m_ui(ui), m_photocells(photocells), m_hooks(hooks)
{
}

void DeviceImpulses::linesRead(const DeviceLines &)
{
}

void DeviceImpulses::impulse(const DeviceLine &)
{
}
