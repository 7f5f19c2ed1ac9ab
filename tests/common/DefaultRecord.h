#pragma once

#include "generator/GeneratorPars.h"

// The record the program builds when its settings file holds no key: the
// values the operator finds on a first start.
inline GENERATOR_PARS defaultRecord()
{
    GENERATOR_PARS pars;
    pars.StartFrequency = 10.0;
    pars.FrequencyIncrement = 50.0;
    pars.NumberOfIncrements = 10;
    pars.BaseIntervalType = 1;
    pars.BaseIntervalMultiplierIndex = 0;
    pars.BaseIntervalsNumber = 100;
    pars.MasterClock = 50000.0;
    pars.SyncoutType = 1;
    pars.AnalogOutputsType = 1;
    return pars;
}
