// The system's own words for a failed file operation: strerror's text, or on Windows the
// system's message (FormatMessage) for the error behind the C library's. Messages give it
// on the line after their own, so that a user learns why a file could not be opened,
// written or renamed, and not only which.
#pragma once

#include <string>
#include <system_error>

// Forgets the error of an earlier call, before a call whose failure LastSystemError reads.
void ResetSystemError();

// The error of the C library call that just failed: on Windows the system error that the
// C library kept beside errno, where it kept one; else errno. No error when neither is set.
std::error_code LastSystemError();

// The system's text for the error, without its line end and final full stop; empty when
// there is no error.
std::string ReasonText(const std::error_code& error);

// "  REASON\n", or with `doing` "  REASON (DOING)\n": the line that follows a failure's own
// line. Empty when there is no error.
std::string ReasonLine(const std::error_code& error, const std::string& doing = {});
