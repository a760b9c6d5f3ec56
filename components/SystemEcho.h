#pragma once

#include "EchoService.h"

// The echo of this machine (EchoProbe): ICMP, else the time of a TCP
// connection. Part of the Linux components.
class SystemEcho : public EchoService
{
public:
    EchoProbe::Result echo(const QHostAddress& address, const EchoProbe::Options& options,
                           const std::atomic<bool>* cancel) override
    {
        return EchoProbe::echo(address, options, cancel);
    }
};
