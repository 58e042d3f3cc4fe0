// A connected socket held in memory, for driving the real connection reader without a network.
// It implements the functions of platform/socket.h that the reader calls, by that header's
// contract, over a byte string that "arrives" in chunks: a call that would block takes in the
// next chunk, and once every chunk has arrived the peer has closed (or reset).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/socket.h"

struct Socket {
    std::string bytes;           // Everything the peer sends.
    std::vector<size_t> chunks;  // The sizes in which it arrives; the last one takes the rest.
    size_t nextChunk = 0;        // The first chunk that has not arrived yet.
    size_t arrived = 0;          // Bytes that have arrived so far.
    size_t taken = 0;            // Bytes the reader has received (not merely peeked).
    bool endIsReset = false;     // The peer ends with a reset instead of an orderly close.
    bool arriveOnTest = false;   // A liveness test may find the next chunk arrived meanwhile.
    int32_t ip = 0;
    bool open = true;
    int closes = 0;  // Transitions from open to closed.
    int frees = 0;
};

// Makes socket ready for a new run over bytes, arriving in chunks of the given sizes.
void ResetMemorySocket(Socket& socket, std::string bytes, std::vector<size_t> chunks);
