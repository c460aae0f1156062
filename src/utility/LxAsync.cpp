#include "utility/LxAsync.h"

#include "platform/dispatch/SerialQueue.h"

using platform::dispatch::globalQueue;
using platform::dispatch::mainQueue;

void LxAsync::main(Work work) {
    mainQueue()->async(std::move(work));
}

void LxAsync::background(Work work) {
    globalQueue(QoS::background)->async(std::move(work));
}

void LxAsync::mainAfterSeconds(int seconds, Work work) {
    after(mainQueue(), seconds, Unit::seconds, std::move(work));
}

void LxAsync::mainAfterMilliseconds(int milliseconds, Work work) {
    after(mainQueue(), milliseconds, Unit::milliseconds, std::move(work));
}

void LxAsync::backgroundAfterSeconds(int seconds, Work work) {
    after(globalQueue(QoS::background), seconds, Unit::seconds, std::move(work));
}

void LxAsync::backgroundAfterMilliseconds(int milliseconds, Work work) {
    after(globalQueue(QoS::background), milliseconds, Unit::milliseconds, std::move(work));
}

void LxAsync::concurrent(std::string label, QoS qos, Work work) {
    platform::dispatch::ConcurrentQueue::create(std::move(label), qos)->async(std::move(work));
}

void LxAsync::serial(std::string label, QoS qos, Work work) {
    platform::dispatch::SerialQueue::create(std::move(label), qos)->async(std::move(work));
}

void LxAsync::after(const platform::dispatch::QueuePtr& queue, int count, Unit unit, Work work) {
    const auto deadline = unit == Unit::seconds
                              ? platform::dispatch::deadlineAfter(std::chrono::seconds(count))
                              : platform::dispatch::deadlineAfter(std::chrono::milliseconds(count));
    queue->asyncAfter(deadline, std::move(work));
}
