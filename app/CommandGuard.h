#pragma once
// The one place where the error of a window's command is caught. Every command, menu item,
// button, tool button and gesture handler of the windows runs through it: whatever the command
// throws is shown in the exception box captioned with the application title (what() of a
// std::exception, an empty message for any other object), the command ends there and the
// program goes on with what the command stored before the error. Work the user cancelled
// (EAbort) ends without a box. No exception leaves a slot or an event handler into Qt;
// QuillaneApplication::notify is only the last guard behind this one.
//
//   connect(N1, &QAction::triggered, this, Guarded([this] { N1Click(N1); }));
//   connect(SList, &QListWidget::currentRowChanged, this, Guarded([this](int row) { ... }));
//   void View::mousePressEvent(QMouseEvent* e) { RunGuarded([&] { form_->Chart1MouseDown(...); });
//   }

#include <cstddef>
#include <exception>
#include <tuple>
#include <type_traits>
#include <utility>

// Shows what error holds in the exception box, or nothing for EAbort. False for EAbort.
bool ShowCommandException(std::exception_ptr error);

// Runs command now, catching whatever it throws as above.
template <class Command>
void RunGuarded(Command&& command)
{
    try {
        std::forward<Command>(command)();
    } catch (...) {
        ShowCommandException(std::current_exception());
    }
}

namespace command_guard {

template <class Command, class Tuple, std::size_t... I>
void CallWith(Command& command, Tuple& args, std::index_sequence<I...>)
{
    command(std::get<I>(args)...);
}

template <class Command, class Tuple, std::size_t... I>
constexpr bool TakesLeading(std::index_sequence<I...>)
{
    return std::is_invocable_v<Command&, std::tuple_element_t<I, Tuple>...>;
}

// Calls command with the first n of args, n the most it takes, as Qt passes a signal's
// arguments to a slot that takes fewer.
template <std::size_t N, class Command, class Tuple>
void CallWithLeading(Command& command, Tuple& args)
{
    if constexpr (N == 0 || TakesLeading<Command, Tuple>(std::make_index_sequence<N>()))
        CallWith(command, args, std::make_index_sequence<N>());
    else
        CallWithLeading<N - 1>(command, args);
}

}  // namespace command_guard

// The command as a slot: it takes the leading arguments of the signal that it accepts and runs
// through RunGuarded.
template <class Command>
auto Guarded(Command command)
{
    return [command = std::move(command)](auto&&... args) mutable -> void {
        RunGuarded([&] {
            auto all = std::forward_as_tuple(std::forward<decltype(args)>(args)...);
            command_guard::CallWithLeading<sizeof...(args)>(command, all);
        });
    };
}
