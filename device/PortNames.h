#pragma once

#include <juce_core/juce_core.h>

// The unit is found by the names of its USB MIDI ports.
namespace PortNames
{
/** True for a port of an Axe-Fx III or FM9 ("Axe-Fx III", "FM9" or "FM-9", any case). */
bool isUnitPort (const juce::String& portName);

/** True when an input's name marks an FM9 ("FM9", any case; "FM-9" does not count). */
bool isFm9Port (const juce::String& portName);
} // namespace PortNames
