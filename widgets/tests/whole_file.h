// Whole files as byte strings, for tests that write a program's inputs and compare what it
// wrote byte for byte.
#pragma once

#include <filesystem>
#include <string>

// The file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces the file with the bytes.
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
