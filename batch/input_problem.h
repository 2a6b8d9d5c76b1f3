#pragma once
// kelmarin-batch's words for what is wrong with its input: every message names the file and
// its fault. The window keeps its own texts.

#include <string>

#include "input/in_out_error.h"
#include "run/file_exists.h"

namespace kelmarin {

// Why FILE cannot be read in shards, or empty when it can: each shard seeks to its part of
// the file, which standard input, a pipe and a gzip file cannot do.
std::string ShardProblem(const std::string& file);

// What a file failure met during a run says about the file.
std::string FailureReason(const EInOutError& error);

// "kelmarin-batch: <text>".
std::string BatchMessage(const std::string& text);

}  // namespace kelmarin
