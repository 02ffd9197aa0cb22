#include "core/InputTape.h"
#include "platform/Focus.h"

InputTape* g_inputTape = nullptr;

bool InputTape::RealFocus() { return HasKeyboardFocus(); }

bool RulesFocus() { return g_inputTape ? g_inputTape->Focus() : HasKeyboardFocus(); }
