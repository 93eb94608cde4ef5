#pragma once

#include <cups/cups.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer_system.h"

namespace vantrel {

// The IPP requests a raw print needs, each asking for no more than it uses, and what their
// failures mean to the user.

SpoolError CupsUnreachableError();
// Why the last libcups request failed, in words for the user.
SpoolError CupsRequestError();

// A new request of the given operation about the queue or its jobs, on behalf of this user.
ipp_t* QueueRequest(ipp_op_t operation, const std::string& queue);

// Whether the scheduler is ever asked for a queue of this name by itself: names that could mean
// something else in a URI are only matched in the full listing.
bool IsCupsQueueName(std::string_view name);

// One queue as the scheduler tells it when asked for it by name.
struct QueueFacts {
    Printer printer;  // its own spelling of the name, and its device without credentials
    bool accepting = true;
};

// The scheduler's own queue of that name (its names ignore case); nothing when it has none, or
// the name is no queue name, or only a printer it found on the network answers. Throws
// SpoolError when the scheduler cannot be asked.
std::optional<QueueFacts> AskQueue(http_t* http, const std::string& name);

// Whether the scheduler has any queue of its own; throws SpoolError when it cannot be asked.
bool AnyQueue(http_t* http);

// The scheduler's own queues in its order (by name), with what a print needs of each, in one
// request that asks for no more. Throws SpoolError when the scheduler cannot be asked.
std::vector<QueueFacts> ListQueues(http_t* http);

// Why a request on http failed: a scheduler that let it wait in vain does not answer; any other
// failure as CupsRequestError says.
SpoolError FailedRequestError(http_t* http);

// A new job on the queue: its id, or 0 with cupsLastError() telling why.
int CreateJob(http_t* http, const std::string& queue, const std::string& title);

// Starts the job's only document, raw, of a length not told in advance: HTTP_STATUS_CONTINUE
// when its data may follow with cupsWriteRequestData.
http_status_t StartDocument(http_t* http, const std::string& queue, int jobId,
                            const std::string& title);

// The job's state in an answer about it; nothing when the answer does not tell.
// A new request of the given operation about one job, on behalf of this user.
ipp_t* NewJobRequest(ipp_op_t operation, int jobId);

std::optional<ipp_jstate_t> JobStateIn(ipp_t* answer);

// The job's state as the scheduler tells it now; nothing when it cannot tell (a finished job
// that it no longer lists, say).
std::optional<ipp_jstate_t> AskJobState(http_t* http, int jobId);

}  // namespace vantrel
