#pragma once

#include "platform/ftd2xx.h"

// The open converter: which backend speaks for it and its handle.
struct PortState {
    Ftd2xx* ft = nullptr;
    FT_HANDLE ft_handle = 0;
};
