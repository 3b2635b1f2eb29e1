// quilvar-radio-sim: a simulated radio on a pseudo-terminal, tuned and faulted from a
// console on standard input.

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "civ_codec.h"
#include "pty_radio.h"
#include "receiver_models.h"

namespace {

constexpr const char* kProgram = "quilvar-radio-sim";
constexpr int kUsageExit = 2;

constexpr const char* kUsage =
    "usage: quilvar-radio-sim --model NAME [--address HEX] [--freq HZ] [--mode NAME]\n"
    "                         [--no-echo] [--link PATH]\n"
    "  --model NAME   a radio of the model table, e.g. IC-R75 or FT-817\n"
    "  --address HEX  CI-V address, 01 to EF except E0 (default: the model's)\n"
    "  --freq HZ      starting frequency in hertz (default 7000000)\n"
    "  --mode NAME    starting mode from the model's mode table (default: its first)\n"
    "  --no-echo      no CI-V bus echo of the controller's bytes\n"
    "  --link PATH    a symbolic link to the pseudo-terminal, removed at exit\n"
    "Console (standard input): freq HZ, mode NAME, ng on|off, silent on|off,\n"
    "split on|off, noise N, quit. Noise bytes are random and may cost the next frame.\n";

struct Arguments {
  SimRadioOptions radio;
  std::string link;
};

int Usage(const std::string& problem) {
  std::cerr << kProgram << ": " << problem << "\n" << kUsage;
  return kUsageExit;
}

std::string ModelNames() {
  std::string names;
  for (int i = 0; i < kModelCount; ++i) {
    if (IsNoneModel(i)) continue;
    names += names.empty() ? "" : ", ";
    names += kReceiverModels[i].name;
  }
  return names;
}

// Frame bytes (E0 the controller, F0 up the frame's own codes) cannot be a radio's address.
std::optional<int> ParseAddress(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text = text.substr(2);
  }
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 0x01 || value > 0xEF || value == kCivControllerAddress) return std::nullopt;
  return value;
}

std::optional<uint64_t> ParseHz(const std::string& text) {
  uint64_t value = 0;
  if (text.empty() || text.size() > 19) return std::nullopt;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Returns 0 with the arguments filled in, or the exit code after a message.
int Parse(int argc, char** argv, Arguments* args) {
  std::optional<std::string> model, address, freq, mode, link;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--no-echo") {
      args->radio.echo = false;
      continue;
    }
    std::optional<std::string>* value = nullptr;
    if (option == "--model") value = &model;
    if (option == "--address") value = &address;
    if (option == "--freq") value = &freq;
    if (option == "--mode") value = &mode;
    if (option == "--link") value = &link;
    if (value == nullptr) return Usage("unknown option \"" + option + "\"");
    if (i + 1 >= argc || argv[i + 1][0] == '\0') return Usage(option + " needs a value");
    *value = argv[++i];
  }
  args->link = link.value_or("");
  if (!model) return Usage("--model is required");

  int index = ModelIndexByName(*model);
  if (kReceiverModels[index].name != *model || IsNoneModel(index)) {
    return Usage("unknown model \"" + *model + "\"; models: " + ModelNames());
  }
  const ReceiverModel& row = kReceiverModels[index];
  args->radio.modelIndex = index;

  if (address) {
    if (IsCatModel(index)) return Usage(std::string(row.name) + " is a CAT radio: no address");
    std::optional<int> value = ParseAddress(*address);
    if (!value) return Usage("bad address \"" + *address + "\"");
    args->radio.address = *value;
  }
  if (freq) {
    std::optional<uint64_t> hz = ParseHz(*freq);
    if (!hz || !SimRadio::FrequencyFits(index, *hz)) {
      return Usage("bad frequency \"" + *freq + "\" for " + row.name);
    }
    args->radio.frequency = static_cast<uint32_t>(*hz);
  }
  if (mode) {
    ModeLookup lookup = ModeCodeByName(row.modes, *mode);
    if (!lookup.found) return Usage("no mode \"" + *mode + "\" on " + row.name);
    args->radio.modeCode = lookup.code;
  }
  return 0;
}

// A console line; returns false for "quit".
bool Console(PtyRadio& radio, const std::string& rawLine) {
  std::string line = rawLine;
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return true;
  line = line.substr(start);
  if (line == "quit") return false;
  std::string reason;
  if (!radio.Command(line, &reason)) std::cerr << kProgram << ": " << reason << std::endl;
  return true;
}

// Serves until "quit", the end of standard input, or a signal (returned, 0 for none).
int ServeConsole(PtyRadio& radio, int signals) {
  std::string buffer;
  pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    if (fds[1].revents & POLLIN) {
      signalfd_siginfo info{};
      if (read(signals, &info, sizeof(info)) == sizeof(info))
        return static_cast<int>(info.ssi_signo);
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      char chunk[1024];
      ssize_t n = read(STDIN_FILENO, chunk, sizeof(chunk));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (!buffer.empty()) Console(radio, buffer);
        return 0;
      }
      buffer.append(chunk, static_cast<size_t>(n));
      for (size_t end; (end = buffer.find('\n')) != std::string::npos;) {
        std::string line = buffer.substr(0, end);
        buffer.erase(0, end + 1);
        if (!Console(radio, line)) return 0;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (int code = Parse(argc, argv, &args); code != 0) return code;

  // Signals are taken as events, so the link is removed on the way out; blocked before the
  // serving thread starts, so it inherits the mask.
  sigset_t mask;
  sigemptyset(&mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&mask, s);
  pthread_sigmask(SIG_BLOCK, &mask, nullptr);
  int signals = signalfd(-1, &mask, SFD_CLOEXEC);
  if (signals < 0) {
    std::perror("signalfd");
    return 1;
  }
  std::signal(SIGPIPE, SIG_IGN);

  PtyRadio radio(args.radio);
  if (!radio.Start(args.link)) {
    std::cerr << kProgram << ": " << radio.error() << std::endl;
    return 1;
  }
  const ReceiverModel& row = kReceiverModels[args.radio.modelIndex];
  char address[8];
  std::snprintf(
      address, sizeof(address), "0x%02X",
      args.radio.address < 0 ? row.defaultAddress : static_cast<unsigned>(args.radio.address));
  std::cout << kProgram << ": " << row.name << " at "
            << (IsCatModel(args.radio.modelIndex) ? "CAT" : address) << " on " << radio.slavePath()
            << std::endl;

  int signal = ServeConsole(radio, signals);
  radio.Stop();
  if (signal != 0) {
    // Die of the signal, as the shell that sent it expects.
    std::signal(signal, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &mask, nullptr);
    raise(signal);
  }
  return 0;
}
