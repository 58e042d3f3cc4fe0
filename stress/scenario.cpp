#include "stress/scenario.h"

#include <cstdlib>

const Scenario* FindScenario(const std::string& name) {
    for (const Scenario* scenario :
         {&connectionsScenario, &sequentialScenario, &burstsScenario, &hostileScenario,
          &idleScenario, &floodScenario, &descriptorsScenario, &exitScenario}) {
        if (name == scenario->name) return scenario;
    }
    return nullptr;
}

int64_t ScenarioCount(const char* name, bool full, int64_t fullCount, int64_t shortCount) {
    if (const char* value = std::getenv(name)) {
        const long long count = std::atoll(value);
        if (count > 0) return count;
    }
    return full ? fullCount : shortCount;
}
