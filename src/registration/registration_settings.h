#pragma once
// The registration figures' settings, from the settings file's numbers.
#include "registration/coordinate_table.h"
#include "registration/registration_figures.h"
#include "settings/sansha_settings.h"

namespace zelkan {

CoordinateColumns CoordinateColumnsOf(const SanshaSettings& s);

// The 地目 class and the 精度区分 of the settings, no registered 地積.
RegistrationInput RegistrationInputOf(const SanshaSettings& s);

}  // namespace zelkan
