#pragma once

// Texts of the boxes that several phases of the run share; all titled with kInternalError.
namespace run_messages
{
constexpr const char kInternalError[] = "Internal error";
constexpr const char kCannotConnect[] = "Cannot establish a connection to the Corvane. Check the "
                                        "cables and try running the Corvane upgrade utility again.";
constexpr const char kCannotSend[] =
    "Cannot send the command. Try running the Corvane upgrade utility again.";
constexpr const char kCannotRestart[] =
    "Cannot restart the Corvane. Try running the Corvane upgrade utility again.";
} // namespace run_messages
