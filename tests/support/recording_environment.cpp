#include "support/recording_environment.h"

RecordingEnvironment::RecordingEnvironment() : previous_(Environment::Get()) { Environment::Set(this); }

RecordingEnvironment::~RecordingEnvironment() { Environment::Set(previous_); }

void RecordingEnvironment::Warning(const char* message) { warnings.emplace_back(message ? message : ""); }

void RecordingEnvironment::FeaturesAdded(const dbRecord_Class* record) { featuresAdded.push_back(record); }

void RecordingEnvironment::SystemError(const char* file, int32_t line, uint32_t code, const char* name) {
    systemErrors.push_back({file ? file : "", line, code, name ? name : ""});
}

void RecordingEnvironment::AssertionFailed(const char* expression, const char* file, int32_t line) {
    assertions.push_back({expression ? expression : "", file ? file : "", line});
}

std::vector<std::string> RecordingEnvironment::Expressions() const {
    std::vector<std::string> out;
    for (const auto& a : assertions) out.push_back(a.expression);
    return out;
}

void RecordingEnvironment::Clear() {
    assertions.clear();
    warnings.clear();
    systemErrors.clear();
    featuresAdded.clear();
}
