#pragma once
// `kelvane --list-ports`: what Kelvane calls the ports, as the menus will show them.

#include <ostream>

void ListPorts(std::ostream& out);
