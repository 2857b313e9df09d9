// The short warning sound of refused input.
#pragma once

void Beep();
