// The window messages a host has seen and the core has not yet taken, shared by the SDL and
// Windows hosts. A few at most are ever pending.
#pragma once

#include "platform/host.h"

struct HostMessageQueue {
    static constexpr u32 size = 16;
    HostMessage messages[size];
    u32 head;
    u32 count;
    // The activation the core was last told about, so that repeated focus or activation
    // events reach it as one message.
    bool activeReported;

    void push(HostMessage message) {
        if (count == size) {
            return; // the core is not taking messages; the newest is the one to lose
        }
        messages[(head + count++) % size] = message;
    }

    HostMessage take() {
        if (count == 0) {
            return hostMessageNone;
        }
        HostMessage message = messages[head];
        head = (head + 1) % size;
        --count;
        return message;
    }

    void reportActive(bool active) {
        if (active != activeReported) {
            activeReported = active;
            push(active ? hostMessageActivate : hostMessageDeactivate);
        }
    }
};
