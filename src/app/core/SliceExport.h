#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/ContainerPlan.h"
#include "app/core/ContainerStream.h"

namespace kestrave::app {

// Refuses, before anything is written, the names of records 1 to Count that stand for the
// container, by the name it was opened with or as the file that was opened (a link, another hard
// link): a record written there would destroy it.
void RefuseContainerAsTarget(const ContainerStream& container, int count,
                             const std::function<std::string(int number)>& fileNameOf);

// "Сохранить AMR" of a streamed container, with what the window's export does: the plan's slices
// to BASE_n.amr, Threads of them side by side, each complete under its name or not at all
// (Written told of each in order once it stands), all brought to the disk together at the end;
// then the plan's stop, if it has one. A base without a name, and record names that stand for
// the container, are refused before anything is written. Answers the files written.
std::vector<std::string> ExportSlices(const ContainerStream& container, const ExportPlan& plan,
                                      const std::string& base,
                                      const std::function<void(const std::string&)>& written = {},
                                      int threads = ContainerStream::DefaultThreads());

}  // namespace kestrave::app
