#pragma once
// The registration figures' settings, from the settings file's numbers.
#include <string_view>

#include "registration/coordinate_table.h"
#include "registration/registration_figures.h"
#include "settings/sansha_settings.h"

namespace zelkan {

CoordinateColumns CoordinateColumnsOf(const SanshaSettings& s);

// The 地目 class and the 精度区分 of the settings, no registered 地積.
RegistrationInput RegistrationInputOf(const SanshaSettings& s);

// The same with what a parcel's own record says over it: its 精度区分 by
// name and the 地積 on the register as written (empty, or no class or no
// plain decimal: the settings' stay).
RegistrationInput ParcelRegistrationInput(const SanshaSettings& s, std::string_view precisionClass,
                                          std::string_view registeredArea);

}  // namespace zelkan
