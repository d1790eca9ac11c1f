#include "device/PortNames.h"

namespace PortNames
{
bool isUnitPort (const juce::String& portName)
{
    return portName.containsIgnoreCase ("Axe-Fx III") || portName.containsIgnoreCase ("FM9")
           || portName.containsIgnoreCase ("FM-9");
}

bool isFm9Port (const juce::String& portName)
{
    return portName.containsIgnoreCase ("FM9");
}
} // namespace PortNames
