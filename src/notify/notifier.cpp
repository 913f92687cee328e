#include "notify/notifier.h"

#include "app/data_files.h"

namespace dvx {

Notifier::Notifier(Clock& clock, const Paths& paths, DataFiles& files,
                   const ConnectionSettings& connection, const EmailAccount& account,
                   const std::string& Facility, AlarmLog& log, ErrorReporter& errors,
                   Dialer::StatusLine Label3)
    : m_facility(Facility),
      m_dialer(clock, paths, files.CallList, connection, m_port, log, errors, std::move(Label3)),
      m_email(clock, paths, files.AddressBook, account, log, errors, m_transport) {}

}  // namespace dvx
