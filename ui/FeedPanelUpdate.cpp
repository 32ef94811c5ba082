// The end of a refresh: its content brought into the tree a short step at a time.
#include <deque>
#include <map>
#include <string_view>

#include "ui/FeedPanel.h"
#include "ui/PanelWindow.h"
#include "ui/ShownTree.h"

namespace {

// Per channel of the content, the one shown before from the same line when it
// shows the same lines and none of its items was announced: worked out here,
// on the refresh's thread, so that the host's thread only swaps the copies.
std::vector<const Channel*> sameAsBefore(const std::vector<ShownChannel>& before, const PanelContent& content)
{
    std::map<std::wstring_view, std::deque<const Channel*>> shown;
    for (const ShownChannel& channel : before)
        shown[channel.source].push_back(channel.channel.get());
    std::vector<const Channel*> same(content.channels.size(), nullptr);
    for (size_t i = 0; i < content.channels.size(); ++i) {
        const auto found = shown.find(content.channels[i].source);
        if (found == shown.end() || found->second.empty())
            continue;
        const Channel* was = found->second.front();
        found->second.pop_front();
        const Channel& now = *content.channels[i].channel;
        if ((was == &now || sameLines(*was, now)) && !anyAnnounced(content, now))
            same[i] = was;
    }
    return same;
}

} // namespace

// The caller holds the store's refresh lock, so the channels stay still meanwhile.
void FeedPanel::update(const PanelContent& content)
{
    const std::lock_guard<std::mutex> one(updating_);
    HWND window = frame.load();
    if (window == nullptr) { // no tree: the next update after create fills the new one
        lastShown_.clear();
        return;
    }
    PanelUpdate update;
    update.content = &content;
    update.sameAs = sameAsBefore(lastShown_, content);
    // Each step waits until the host's thread has carried it out, and the host's
    // messages are served between them.
    SendMessageW(window, PanelWindow::kSyncList, 0, reinterpret_cast<LPARAM>(&update));
    for (size_t index : update.pending)
        SendMessageW(window, PanelWindow::kSyncChannel, index, reinterpret_cast<LPARAM>(&update));
    SendMessageW(window, PanelWindow::kEndUpdate, 0, reinterpret_cast<LPARAM>(&update));
    lastShown_ = content.channels;
}
