#pragma once

#include "EchoProbe.h"

#include <QHostAddress>
#include <atomic>

// One echo to an address, as the ping test asks for it (the real one is
// SystemEcho; tests hand in stand-ins). Called on worker threads, several
// at once.
class EchoService
{
public:
    virtual ~EchoService() = default;
    virtual EchoProbe::Result echo(const QHostAddress& address, const EchoProbe::Options& options,
                                   const std::atomic<bool>* cancel) = 0;
};
