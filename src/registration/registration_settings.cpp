#include "registration/registration_settings.h"

namespace zelkan {

CoordinateColumns CoordinateColumnsOf(const SanshaSettings& s) {
    return ClampedColumns(CoordinateColumns{s.zahyoKetaXY, s.zahyoKetaSa, s.zahyoKetaSeki, s.zahyoKetaMen});
}

RegistrationInput RegistrationInputOf(const SanshaSettings& s) {
    RegistrationInput input;
    input.landClass = LandClassOf(s.chimoku);
    input.precision = PrecisionClassOf(s.seidoKubun);
    return input;
}

RegistrationInput ParcelRegistrationInput(const SanshaSettings& s, std::string_view precisionClass,
                                          std::string_view registeredArea) {
    RegistrationInput input = RegistrationInputOf(s);
    if (const std::optional<PrecisionClass> c = PrecisionClassOfName(precisionClass)) input.precision = *c;
    if (const std::optional<DecimalText> area = ParseDecimalText(registeredArea); area && area->units >= 0)
        input.registeredArea = area;
    return input;
}

}  // namespace zelkan
