#include "ui/OptionsPage.h"

namespace OptionsPage {
intptr_t onEvent(intptr_t, intptr_t, void*)
{
    return 0;
}
HWND createEditor(HWND, HINSTANCE, int, int, int, int)
{
    return nullptr;
}
void saveEditor(HWND)
{
}
} // namespace OptionsPage
