#pragma once
// kelmarin-batch's words for what is wrong with its input: every message names the file and
// its fault. The window keeps its own texts.

#include <string>

#include "input/in_out_error.h"

namespace kelmarin {

// Why FILE cannot be read ("no such file", "is a folder", "permission denied", "not a regular
// file or a pipe"), or empty when a run can try it. "-" is standard input.
std::string InputProblem(const std::string& file);

// Why FILE cannot be read in shards, or empty when it can: each shard seeks to its part of
// the file, which standard input, a pipe and a gzip file cannot do.
std::string ShardProblem(const std::string& file);

// What a file failure met during a run says about the file.
std::string FailureReason(const EInOutError& error);

// "kelmarin-batch: <text>".
std::string BatchMessage(const std::string& text);

}  // namespace kelmarin
