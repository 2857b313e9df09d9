// Showing a control that lies in a hidden part of a container: giving it the focus asks
// each container around it, innermost first, to bring the part that holds it into view
// (a page control makes the sheet holding it the active page), before the focus moves.
#pragma once

#include <functional>

class TControl;
class TWinControl;

// Child: the container's direct child that holds the control getting the focus. A null
// Handler ends the requests.
void SetShowRequestHandler(TWinControl& Container, std::function<void(TControl& Child)> Handler);
