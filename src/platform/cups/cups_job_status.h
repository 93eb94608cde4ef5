#pragma once

#include <cups/cups.h>

#include <string>
#include <vector>

#include "platform/printer_system.h"

namespace vantrel {

// Where a job stands, read from the scheduler's answer about it (job-state, job-state-reasons,
// job-printer-state-message). Only job-state "completed" is completion: a job whose document the
// scheduler received, or that its backend is sending, is still processing. A pending job whose
// printer was stopped counts as stopped, since it waits for someone to start the printer again.
JobStatus JobStatusIn(ipp_t* answer);

// Asks the scheduler where the job stands; JobState::Unknown when it no longer knows the job.
// Throws SpoolError when it cannot be asked or refuses to tell.
JobStatus AskJobStatus(http_t* http, int jobId);

// The job's state and whether its document arrived: a job the scheduler took a document for
// counts its size (job-k-octets) even once the document's file is gone. Throws SpoolError.
JobFacts AskJobFacts(http_t* http, int jobId);

// The numbers of this user's unfinished jobs on the queue named exactly name (as the scheduler
// took it: IppName) that hold no document, in ascending order. Throws SpoolError.
std::vector<int> AskOwnJobsWithoutDocument(http_t* http, const std::string& queue,
                                           const std::string& name);

// Where the queue's jobs of those numbers stand, in one Get-Jobs request over their span; and,
// while one of them is pending, whether the queue was paused, in one more. A job the scheduler
// no longer lists is unknown. Throws SpoolError.
QueueLook AskQueueLook(http_t* http, const std::string& queue, const std::vector<int>& jobIds);

}  // namespace vantrel
