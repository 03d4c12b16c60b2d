// A float parameter that a pass or a component offers to the overlay: its slider's name, the
// storage and the range. Scenes turn these into (variable, slider) entries of their lists.
#pragma once

#include <string>
#include <vector>

struct sParamSlider
{
    std::string name;
    float* value = nullptr;
    float min = 0.0f;
    float max = 1.0f;
};

using tParamSliders = std::vector<sParamSlider>;
