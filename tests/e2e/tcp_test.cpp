// A printer behind a TCP port: TARN_COM<n>=tcp:HOST:PORT, with real sockets and real time.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "seam.h"
#include "served_printer_test.h"
#include "tarn/tarn.h"
#include "tcp_endpoint.h"
#include "test_dir.h"

namespace tarn {
namespace {

class TcpTest : public test::ServedPrinterTest<sim::TcpEndpoint, 5> {
protected:
    void Serve() {
        std::string error;
        ASSERT_TRUE(endpoint_.Listen(0, &error)) << error;
        StartServing("tcp:127.0.0.1:" + std::to_string(endpoint_.Port()));
    }
};

TEST_F(TcpTest, ASaleOverTcp) {
    Serve();
    ASSERT_EQ(mfStart(0, 5), 0);
    char serial[12] = {};
    ASSERT_EQ(mfGetSerNo(serial), 0);
    EXPECT_STREQ(serial, "TRN26000001");
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 1000, 0), 0);
    ASSERT_EQ(mfEndTicket(0, 0, 0, 450, "Karta", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
    int number = 0;
    ASSERT_EQ(mfGetLastTicketNo(&number), 0);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(mfStop(), 0);
}

TEST_F(TcpTest, NobodyListeningIsACommunicationFailure) {
    setenv("TARN_COM5", "tcp:127.0.0.1:1", 1);
    EXPECT_EQ(mfStart(0, 5), -2);
    EXPECT_EQ(test::seam::DetailCode(), 514);
    setenv("TARN_COM5", "tcp:nohostname", 1);
    EXPECT_EQ(mfStart(0, 5), -2);
}

}  // namespace
}  // namespace tarn
