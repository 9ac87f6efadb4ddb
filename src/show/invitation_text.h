// The invitation itself: eleven Dutch lines, each opening with a colour marker
// ("/" and one digit). Entry 9 holds nine blanks; entry 10 is empty and gives a
// pause between two passes of the text.
#pragma once

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 11> InvitationText = {
    "/1welkom bij de uitnodiging van mijn verjaardag!",
    "/2ook dit jaar ben je weer van harte welkom",
    "/3op de sterweg 12 in wolkendam",
    "/4om alweer mijn 35e verjaardag te vieren..",
    "/1dus noteer: zaterdag 26 juni vanaf 18:00",
    "/2barbeque bij ilvar en merula..",
    "/3laat aub even weten of je wel of niet kan komen",
    "/4en blijven slapen mag natuurlijk ook",
    "/1maar laat dat ook even weten",
    "/2hopelijk tot dan!         doeiiiiiii",
    "",
};
