// The system's name resolver, IPv4 only. Any thread; each call blocks for as long as the
// resolver takes. Addresses are 32-bit numbers whose most significant byte is the first
// octet of the dotted form.
#pragma once

#include <cstdint>

#include "platform/text.h"

// Looks up name and returns the address at index of the answer, in the resolver's order.
// Returns 0 when the lookup fails, answers with no IPv4 address, or has no such index.
int32_t HostIp(const Text& name, int32_t index);

// Returns the host name that the resolver gives for ip, or empty text when it gives none.
Text HostName(int32_t ip);
