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

}  // namespace zelkan
