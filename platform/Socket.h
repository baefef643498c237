#pragma once

// Placeholder until the socket shim lands.
class CStreamSocket
{
};
