// The demonstration's sample answers, served by its own server.
#ifndef TABROW_TOOLS_TABROW_DEMO_ANSWERS_H_
#define TABROW_TOOLS_TABROW_DEMO_ANSWERS_H_

#include <vector>

#include "demo_server.h"

namespace tabrow::cli {

// "/catalogue": a JSON book catalogue (application/json) whose items hold nested objects and
// arrays and Chinese texts. "/orders": an XML answer (text/xml) whose order elements carry
// attributes and child elements.
std::vector<DemoAnswer> DemoAnswers();

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_DEMO_ANSWERS_H_
